#include "jobs/JoinExtent.h"
#include <algorithm>
#include "foundation/Exception.h"
#include "imaging/PictureSizeLimit.h"
#include "settings/Messages.h"

void JoinExtent::add(int width, int height)
{
    LONGLONG longer = length + (vertical ? height : width);
    int broader = std::max(breadth, vertical ? width : height);
    // Within the setting's limit the joined picture may still be larger than the program makes one; it fails
    // before more pictures are loaded for it.
    double across = vertical ? broader : static_cast<double>(longer);
    double down = vertical ? static_cast<double>(longer) : broader;
    if (longer > limit || broader > limit || !PictureSizeLimit::admits(across, down, 24))
        throw ApplicationException(Messages::E0015.get());
    length = longer;
    breadth = broader;
}
