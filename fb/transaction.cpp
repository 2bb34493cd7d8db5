#include "fb/transaction.h"

#include "fb/attachment.h"
#include "fb/status.h"

#include <firebird/Interface.h>
#include <ibase.h>

using namespace Firebird;

namespace fb {

Transaction::Transaction(Attachment& attachment, Mode mode)
    : m_attachment(attachment), m_mode(mode) {}

Transaction::~Transaction() {
    if (!m_handle)
        return;
    Status status;
    try {
        m_handle->rollback(&status);
    } catch (const FbException&) {
        m_handle->release(); // the connection is gone; nothing left to undo
    }
    m_handle = nullptr;
}

void Transaction::start() {
    if (m_handle)
        return;
    if (!m_attachment.isConnected())
        m_attachment.raise(Error(QStringLiteral("Нет подключения к базе данных.")));
    Status status;
    IXpbBuilder* tpb = nullptr;
    try {
        tpb = util()->getXpbBuilder(&status, IXpbBuilder::TPB, nullptr, 0);
        switch (m_mode) {
        case Mode::ReadWrite:
            tpb->insertTag(&status, isc_tpb_write);
            tpb->insertTag(&status, isc_tpb_read_committed);
            tpb->insertTag(&status, isc_tpb_rec_version);
            tpb->insertTag(&status, isc_tpb_wait);
            tpb->insertInt(&status, isc_tpb_lock_timeout, 10);
            break;
        case Mode::ReadOnly:
            tpb->insertTag(&status, isc_tpb_read);
            tpb->insertTag(&status, isc_tpb_read_committed);
            tpb->insertTag(&status, isc_tpb_rec_version);
            break;
        case Mode::Snapshot:
            tpb->insertTag(&status, isc_tpb_write);
            tpb->insertTag(&status, isc_tpb_concurrency);
            tpb->insertTag(&status, isc_tpb_wait);
            tpb->insertInt(&status, isc_tpb_lock_timeout, 10);
            break;
        }
        m_handle = m_attachment.handle()->startTransaction(&status, tpb->getBufferLength(&status),
                                                           tpb->getBuffer(&status));
        tpb->dispose();
    } catch (const FbException& e) {
        if (tpb)
            tpb->dispose();
        m_attachment.raise(e);
    }
}

void Transaction::commit() {
    if (!m_handle)
        return;
    Status status;
    try {
        m_handle->commit(&status);
        m_handle = nullptr;
    } catch (const FbException& e) {
        m_attachment.raise(e);
    }
}

void Transaction::commitRetaining() {
    if (!m_handle)
        return;
    Status status;
    try {
        m_handle->commitRetaining(&status);
    } catch (const FbException& e) {
        m_attachment.raise(e);
    }
}

void Transaction::rollback() {
    if (!m_handle)
        return;
    Status status;
    try {
        m_handle->rollback(&status);
        m_handle = nullptr;
    } catch (const FbException& e) {
        m_handle->release();
        m_handle = nullptr;
        m_attachment.raise(e);
    }
}

} // namespace fb
