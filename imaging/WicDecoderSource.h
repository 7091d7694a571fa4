#pragma once
#include "foundation/wstring.h"
#include "imaging/WicBitmapDecoder.h"

// Where a picture's WIC decoders come from. Pictures are decoded from their files; a test hands in decoders
// of its own (BitmapDecoder::attach), for what the system's decoders do not offer everywhere, such as previews.
// A source may be asked from several threads at once.
class IWicDecoderSource {
public:
    virtual ~IWicDecoderSource() = default;
    // Opens the decoder on the picture at path; failures throw Exception as BitmapDecoder::openFile does.
    virtual void openDecoder(const wstring& path, WIC::BitmapDecoder& decoder) = 0;
};

class WicFileDecoderSource : public IWicDecoderSource {
public:
    void openDecoder(const wstring& path, WIC::BitmapDecoder& decoder) override { decoder.openFile(path); }

    // The one every picture shares: it keeps no state.
    static WicFileDecoderSource& shared()
    {
        static WicFileDecoderSource source;
        return source;
    }
};
