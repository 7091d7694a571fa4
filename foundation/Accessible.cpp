#include "foundation/Accessible.h"
#include "foundation/Variant.h"

int Accessible::fromPoint(POINT screenPoint)
{
    object.release();
    Variant child;
    Exception::check(AccessibleObjectFromPoint(screenPoint, object.out(), child.out()));
    child.changeType(VT_I4);
    return child.get().lVal;
}

int Accessible::role() const
{
    if (!object)
        throw Exception(ErrorCode::InvalidState);
    Variant self(CHILDID_SELF);
    Variant result;
    Exception::check(object->get_accRole(self.get(), result.out()));
    result.changeType(VT_I4);
    return result.get().lVal;
}
