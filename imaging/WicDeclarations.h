#pragma once
#include <windows.h>
#include <wincodec.h>
#include <wincodecsdk.h>

// Pieces of the imaging component that MinGW's headers leave out, declared from their published layouts. They
// live in the WIC namespace so that a later header declaring them globally does not clash.
namespace WIC {

enum WICProgressOperation : DWORD {
    WICProgressOperationCopyPixels = 0x00000001,
    WICProgressOperationWritePixels = 0x00000002,
    WICProgressOperationAll = 0x0000FFFF,
};

enum WICProgressNotification : DWORD {
    WICProgressNotificationBegin = 0x00010000,
    WICProgressNotificationEnd = 0x00020000,
    WICProgressNotificationFrequent = 0x00040000,
    WICProgressNotificationAll = 0xFFFF0000,
};

// Answering anything but S_OK ends the running operation with that result.
using PFNProgressNotification = HRESULT(WINAPI*)(void* data, ULONG frameNumber, WICProgressOperation operation,
                                                 double progress);

// {64C1024E-C3CF-4462-8078-88C2B11C46D9}
constexpr IID IID_IWICBitmapCodecProgressNotification = {
    0x64C1024E, 0xC3CF, 0x4462, {0x80, 0x78, 0x88, 0xC2, 0xB1, 0x1C, 0x46, 0xD9}};

class IWICBitmapCodecProgressNotification : public IUnknown {
public:
    // A null callback removes the registration.
    virtual HRESULT STDMETHODCALLTYPE RegisterProgressNotification(PFNProgressNotification callback, void* data,
                                                                   DWORD progressFlags) = 0;
};

// The import library lacks these two identifiers; the values are the interfaces' own.
// {FEAA2A8D-B3F3-43E4-B25C-D1DE990A1AE1}
constexpr IID IID_IWICMetadataBlockReader = {
    0xFEAA2A8D, 0xB3F3, 0x43E4, {0xB2, 0x5C, 0xD1, 0xDE, 0x99, 0x0A, 0x1A, 0xE1}};
// {08FB9676-B444-41E8-8DBE-6A53A542BFF1}
constexpr IID IID_IWICMetadataBlockWriter = {
    0x08FB9676, 0xB444, 0x41E8, {0x8D, 0xBE, 0x6A, 0x53, 0xA5, 0x42, 0xBF, 0xF1}};

} // namespace WIC
