#pragma once
#include <windows.h>
#include <objidl.h>

// Extracts the member of a cabinet archive (all members one after the other, should there be more) into a new
// memory stream positioned at its end; the caller releases it. The archive is read from its start whatever
// the stream's position. Not a cabinet, or a damaged one: Exception E_FAIL; a null stream: Exception 87.
// Extractions in the process run one at a time. COM must be initialised on the calling thread.
IStream* extractCabinet(IStream* cabinet);
