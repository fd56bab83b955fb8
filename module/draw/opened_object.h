// An object of the drawing opened for read or write, closed when the holder
// goes, on every path out of a function: an object left open would block the
// next command that writes to it.
#pragma once

#include "vrxdbcore.h"

template <class T>
class OpenedObject {
public:
    OpenedObject() = default;
    // Takes over an object that is open already (one the host left open for
    // its creator, or a table a get...Table call opened).
    explicit OpenedObject(T* object) : m_object(object) {}
    OpenedObject(const OpenedObject&) = delete;
    OpenedObject& operator=(const OpenedObject&) = delete;
    ~OpenedObject() { reset(); }

    Vrx::ErrorStatus open(VRxDbObjectId id, VRxDb::OpenMode mode) {
        reset();
        return vrxdbOpenObject(m_object, id, mode);
    }
    void adopt(T* object) {
        reset();
        m_object = object;
    }
    // Closes now, before the holder goes (a table let go before the host writes to it).
    void reset() {
        if (m_object != nullptr)
            Vrx::dropStatus(m_object->close(), "an object this holder opened is open, and closing it cannot fail");
        m_object = nullptr;
    }
    // The place a get...Table or getAt call puts the object it opens.
    T*& receive() {
        reset();
        return m_object;
    }
    T* operator->() const { return m_object; }
    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};
