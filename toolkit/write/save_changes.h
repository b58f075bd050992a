// The changes a save makes to a drawing for its own length, kept so that they can be taken
// back exactly: objects taken out of the drawing go back into their place in the object list
// with their handles, replaced records get their stored values back, objects added for the
// save are removed, and the handle seed returns to where it was. The destructor takes back
// what is still in force, so a save that fails half-way leaves the drawing as it found it.
#pragma once

#include <functional>
#include <vector>

#include "toolkit/core/drawing.h"

namespace tracemill {

class SaveChanges {
public:
    explicit SaveChanges(Drawing& drawing);
    ~SaveChanges() { undo(); }
    SaveChanges(const SaveChanges&) = delete;
    SaveChanges& operator=(const SaveChanges&) = delete;

    // Takes the object of a handle out of the object list and the handle index until the undo;
    // a dictionary takes its entries' objects with it (depth first, in entry order). 1, also
    // when no object has the handle.
    int detachObjectTree(Handle handle);
    // Remembers the stored object of a handle as it is now (the first call for a handle
    // counts); the undo writes it back.
    void keepObject(Handle handle);
    // An object added for the save: removed at the undo.
    void noteAddedObject(Handle handle);
    // Remembers everything of the drawing that is not a record list: the header, the fixed
    // handles, the classes and the handle seed.
    void keepDrawingState();
    // Remembers the block records and the table records' names and plot styles.
    void keepTableRecords();

    // Takes every change back, newest first.
    void undo();

private:
    Drawing& drawing_;
    std::vector<std::function<void()>> undo_;
    std::vector<Handle> kept_;
};

} // namespace tracemill
