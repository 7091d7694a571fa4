#pragma once
#include <windows.h>
#include <wincodec.h>

namespace WIC {

// WIC decodes a frame of a GIF at the frame's own size, wherever the frame lies on the picture's logical screen,
// so a first frame that leaves part of the screen out would lose its place. The frame of the decoder's GIF as it
// shows on the screen: a frame of the screen's size (grown where the frame reaches past it) in 32bppBGRA, the
// frame's pixels at its place and transparent pixels around it; its resolution and metadata are the frame's own.
// A frame that covers the screen from its top left corner, a frame of another format and one whose place the
// metadata does not tell come back as they are. Takes over the caller's reference to the frame and returns one;
// throws Exception (the frame released) when the placed frame cannot be made.
IWICBitmapFrameDecode* onGifScreen(IWICBitmapDecoder* decoder, IWICBitmapFrameDecode* frame);

} // namespace WIC
