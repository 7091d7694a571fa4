#include "jobs/JoinExtent.h"
#include <algorithm>
#include "foundation/Exception.h"
#include "settings/Messages.h"

void JoinExtent::add(int width, int height)
{
    LONGLONG longer = length + (vertical ? height : width);
    int broader = std::max(breadth, vertical ? width : height);
    if (longer > limit || broader > limit)
        throw ApplicationException(Messages::E0015.get());
    length = longer;
    breadth = broader;
}
