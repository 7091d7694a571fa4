#pragma once
#include <windows.h>
#include <exception>
#include <memory>
#include "foundation/NewestRequestSlot.h"
#include "foundation/wstring.h"
#include "mainwindow/PictureProperties.h"

// Reads the record of the picture-properties sheet on the worker pool: a hostile picture can take minutes to
// decode, and the window must go on answering meanwhile. When it is read, the pool's thread posts the request's
// message with the request's number as wParam (NewestRequestSlot); the file is the request's key.
struct PicturePropertiesRequest {
    wstring path;
    // Told of the result.
    HWND window = nullptr;
    UINT message = 0;
};

struct PicturePropertiesResult {
    // Null when the file gave none: the failure says why, as PictureProperties::read throws it.
    std::unique_ptr<PictureProperties> record;
    std::exception_ptr failure;
};

class PicturePropertiesReader : public NewestRequestSlot<PicturePropertiesRequest, PicturePropertiesResult> {
public:
    explicit PicturePropertiesReader(WorkerPool& workers);

    // The request's number; throws Exception when the pool has no thread and none can be made.
    WPARAM read(const wstring& path, HWND window, UINT message);

private:
    static void work(const PicturePropertiesRequest& request, PicturePropertiesResult& result);
};
