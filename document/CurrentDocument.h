#pragma once

#include "document/Invoice.h"

#include <QObject>
#include <functional>

// The document of this run: one value that the forms read and change. The page shows it again
// whenever it changes; the print tells who listens (the journal window) when a page was issued.
class CurrentDocument : public QObject
{
    Q_OBJECT
public:
    // The one instance of the run.
    static CurrentDocument &instance();

    const Invoice &invoice() const { return m_invoice; }
    // Changes the document through the given step, then tells the page; a step that throws
    // leaves the document as it was.
    void change(const std::function<void(Invoice &)> &step);
    // A document as a new run starts it.
    void reset();
    // Said by the print once a page went into the journal.
    void announcePrinted() { emit printed(); }

signals:
    void changed();
    void printed();

private:
    Invoice m_invoice;
};

// The document of this run.
inline const Invoice &TheDocument()
{
    return CurrentDocument::instance().invoice();
}
// Changes the document of this run (see CurrentDocument::change).
inline void ChangeDocument(const std::function<void(Invoice &)> &step)
{
    CurrentDocument::instance().change(step);
}
