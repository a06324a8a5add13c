#include "ui/Look.h"

#include <QMouseEvent>

QColor ColorFromNumber(quint32 number)
{
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

QFont PixelFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void InstallFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
}

void SetBackground(QWidget *widget, quint32 colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ColorFromNumber(colour));
    palette.setColor(QPalette::Base, ColorFromNumber(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColor(QWidget *widget, quint32 colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ColorFromNumber(colour));
    palette.setColor(QPalette::Text, ColorFromNumber(colour));
    palette.setColor(QPalette::ButtonText, ColorFromNumber(colour));
    widget->setPalette(palette);
}

TLabel::TLabel(QWidget *parent, const QString &name, int left, int top, const QString &caption,
               const QFont &font, bool autoSize)
    : QLabel(parent), m_autoSize(autoSize)
{
    setObjectName(name);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(0);
    setIndent(0);
    setFont(font);
    setAutoFillBackground(false);
    move(left, top);
    setCaption(caption);
}

void TLabel::setCaption(const QString &caption)
{
    setText(caption);
    if (m_autoSize)
        resize(sizeHint());
}

void TLabel::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_autoSize)
        resize(sizeHint());
}

void TLabel::setColor(quint32 colour)
{
    SetBackground(this, colour);
}

void TLabel::setTransparent()
{
    setAutoFillBackground(false);
}

void TLabel::setFontColor(quint32 colour)
{
    SetTextColor(this, colour);
}

void TLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void TLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->pos());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

QToolButton *MakeSpeedButton(QWidget *parent, const QString &name, int left, int top, int width,
                             int height, const QString &caption, const QIcon &picture)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setGeometry(left, top, width, height);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (!picture.isNull()) {
        button->setIcon(picture);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    } else {
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    return button;
}
