#include "document/CurrentDocument.h"

CurrentDocument &CurrentDocument::instance()
{
    static CurrentDocument document;
    return document;
}

void CurrentDocument::change(const std::function<void(Invoice &)> &step)
{
    Invoice changed = m_invoice;
    step(changed);
    if (changed == m_invoice)
        return;
    m_invoice = std::move(changed);
    emit this->changed();
}

void CurrentDocument::reset()
{
    m_invoice = Invoice();
    emit changed();
}
