#pragma once

#include <QStringList>

// Wraps a goods or service description into lines of at most 39 characters, each cut at the last
// space within its first 39 characters; the text after the space is put in front of the next line.
// A line without a space there is cut at 39 characters.
QStringList WrapDescription(const QStringList &lines);
