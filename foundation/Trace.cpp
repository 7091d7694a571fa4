#include "foundation/Trace.h"
// The log-sink interface lives with the jobs; only its virtual destructor is needed here.
#include "foundation/MessageWriter.h"

Trace::~Trace()
{
    if (!ownsWriters)
        return;
    for (int i = 0; i < count(); ++i)
        delete valueAt(i);
}
