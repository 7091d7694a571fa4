#include "foundation/GCPtrs.h"

GCPtrs::~GCPtrs()
{
    for (int i = 0; i < pointers.count(); ++i) {
        // Someone else may have given the reference back already; the scope's end must not throw for it.
        try {
            collector->release(pointers.at(i));
        } catch (const Exception&) {
        }
    }
}

void GCPtrs::unlist(void* object)
{
    for (int i = 0; i < pointers.count(); ++i) {
        if (pointers.at(i) == object) {
            pointers.removeAt(i);
            return;
        }
    }
    Exception::throwInvalidArgument();
}
