#include "ui/Form.h"

TForm::TForm(QWidget *parent) : QWidget(parent, Qt::Window) {}
