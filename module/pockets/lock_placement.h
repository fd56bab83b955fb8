// LockPlacement: one lock of the lock table placed on one view of the A or B
// plate, its block drawing read from the module's BlockRes folder. In the plan
// view the lock sits at the middle of its edge; in the side view it stands on
// the parting face, face-on at the front edge and in profile at the ends. A
// lock the catalogue has no drawing for gets a line on the command line.
#pragma once

#include <string>

#include "model/lock_record.h"

struct PlateView;

class LockPlacement {
public:
    // The lock record is not owned; the model's lock table keeps it.
    explicit LockPlacement(LockRecord* lock);
    virtual ~LockPlacement() = default;
    LockPlacement(const LockPlacement&) = delete;
    LockPlacement& operator=(const LockPlacement&) = delete;

    // Before the view is drawn: finds the lock's drawing and widens the view's
    // standOut by how far it will stand out of the plate's outline. Prints
    // nothing; place reports what is missing.
    void reserveRoom(PlateView& view);
    void place(const PlateView& view);

    const LockRecord* lock() const { return m_lock; }

private:
    // The catalogue's block for the view, looked up once per view code.
    const std::wstring& blockFor(const PlateView& view);
    // The size, plate, mounting and view of a lock that gets no block.
    void reportUnplaced(const PlateView& view) const;

    LockRecord* m_lock;
    std::wstring m_blockView;  // the view code the block name was found for
    std::wstring m_blockName;  // empty: the catalogue has none
};
