#include "mainwindow/PicturePropertiesReader.h"
#include <string>

PicturePropertiesReader::PicturePropertiesReader(WorkerPool& workers) : NewestRequestSlot(workers, &work)
{
}

// The pool's thread gets text of its own, shared with nothing of this thread.
WPARAM PicturePropertiesReader::read(const wstring& path, HWND window, UINT message)
{
    std::wstring file(path.buffer());
    CharLowerBuffW(file.data(), static_cast<DWORD>(file.size()));
    return submit({wstring(path.buffer()), window, message}, file);
}

void PicturePropertiesReader::work(const PicturePropertiesRequest& request, PicturePropertiesResult& result)
{
    try {
        auto record = std::make_unique<PictureProperties>();
        record->read(request.path);
        result.record = std::move(record);
    } catch (...) {
        result.failure = std::current_exception();
    }
}
