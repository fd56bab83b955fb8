// LockPlacement: one lock of the lock table placed on one view of the A or B
// plate. The lock shows only from above: in the plan view its block drawing,
// read from the module's BlockRes folder, sits at the middle of its edge; any
// other view gets a line on the command line instead.
#pragma once

#include "model/lock_record.h"

struct PlateView;

class LockPlacement {
public:
    // The lock record is not owned; the model's lock table keeps it.
    explicit LockPlacement(LockRecord* lock);
    virtual ~LockPlacement() = default;
    LockPlacement(const LockPlacement&) = delete;
    LockPlacement& operator=(const LockPlacement&) = delete;

    void place(const PlateView& view);

    const LockRecord* lock() const { return m_lock; }

private:
    // The size, plate, mounting and view of a lock that gets no block.
    void reportUnplaced(const PlateView& view) const;

    LockRecord* m_lock;
};
