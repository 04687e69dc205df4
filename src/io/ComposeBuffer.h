#pragma once
#include "model/CTreeList.h"

#include <QString>

#include <utility>

// The string a text writer composes in one walk over the outline, written
// through a raw cursor. A walk costs a cache miss per item, so the size is
// guessed from the body table (contiguous) instead of counted in a walk of
// its own, and the string grows in place should the guess fall short.
class ComposeBuffer
{
public:
    // Room for every body, `perItem` units more for each item, and `extra`.
    ComposeBuffer(const CTreeList &store, qsizetype perItem, qsizetype extra = 0)
    {
        qsizetype guess = extra;
        for (const QString &body : store.bodies())
            guess += body.size();
        guess += qsizetype(store.items().size()) * perItem;
        m_out = QString(guess, Qt::Uninitialized);
    }

    // Where the next units go, with room for `need` of them.
    char16_t *room(qsizetype need)
    {
        if (m_out.size() - m_used < need)
            m_out.resize(m_used + need + m_out.size() / 4);
        return reinterpret_cast<char16_t *>(m_out.data()) + m_used;
    }
    // Everything before `end` (a cursor from room()) is written.
    void done(const char16_t *end) { m_used = end - reinterpret_cast<const char16_t *>(m_out.constData()); }

    QString take()
    {
        m_out.truncate(m_used);
        return std::move(m_out);
    }

private:
    QString m_out;
    qsizetype m_used = 0;
};
