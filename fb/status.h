#pragma once

#include "fb/engine.h"

#include <firebird/Interface.h>

namespace fb {

// A status vector of the client library that throws FbException on failure and frees itself.
class Status {
public:
    Status() : m_status(master()->getStatus()), m_wrapper(m_status) {}
    ~Status() { m_status->dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    Firebird::ThrowStatusWrapper* operator&() { return &m_wrapper; }
    Firebird::ThrowStatusWrapper* get() { return &m_wrapper; }

private:
    Firebird::IStatus* m_status;
    Firebird::ThrowStatusWrapper m_wrapper;
};

} // namespace fb
