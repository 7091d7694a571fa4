#pragma once
#include "foundation/SimpleString.h"
#include "foundation/wstring.h"
#include "imaging/BitmapPtr.h"

class Dib;

// Pictures read by the jobs. A picture that cannot be read, whatever the reason, throws ApplicationException
// with the job's own failure text: the user learns which job failed, the log which picture it was on.

BitmapPtr loadJobBitmap(const wstring& path, const SimpleString& failureText);
void loadJobDib(const wstring& path, Dib& dib, const SimpleString& failureText);
