#pragma once
// JPEG files of flat mid-grey pictures, put together segment by segment in forms that the platform's encoders do
// not write: progressive scans, restart markers, fill bytes. Every coefficient of such a picture is 0, so that
// each Huffman table needs a single one-bit code: the DC difference 0, and the end of the block (in a
// progressive scan the end of a run of 4,096 blocks, with its twelve bits of count).
#include <windows.h>
#include <initializer_list>
#include "support/fileBytes.h"

inline void appendJpegSegment(Bytes& jpeg, BYTE marker, const Bytes& data, int fillBytes = 0)
{
    jpeg.insert(jpeg.end(), fillBytes + 1, 0xFF);
    jpeg.insert(jpeg.end(), {marker, static_cast<BYTE>((data.size() + 2) >> 8), static_cast<BYTE>(data.size() + 2)});
    jpeg.insert(jpeg.end(), data.begin(), data.end());
}

// The start of the file, the segments given, then the quantisation table, the frame header of components with
// ids 1, 2 ... at full resolution, and the Huffman tables.
inline Bytes jpegHeaders(BYTE frameMarker, WORD width, WORD height, BYTE components, const Bytes& segments = {})
{
    Bytes jpeg = {0xFF, 0xD8};
    jpeg.insert(jpeg.end(), segments.begin(), segments.end());
    Bytes table(65, 8);
    table[0] = 0;
    appendJpegSegment(jpeg, 0xDB, table);
    Bytes frame = {8, HIBYTE(height), LOBYTE(height), HIBYTE(width), LOBYTE(width), components};
    for (BYTE id = 1; id <= components; ++id)
        frame.insert(frame.end(), {id, 0x11, 0});
    appendJpegSegment(jpeg, frameMarker, frame);
    for (BYTE kind : {0x00, 0x10}) {
        Bytes code(17, 0);
        code[0] = kind;
        code[1] = 1;
        code.push_back(kind == 0 || frameMarker != 0xC2 ? 0x00 : 0xC0);
        appendJpegSegment(jpeg, 0xC4, code);
    }
    return jpeg;
}

// A scan of the components from coefficient `first` to `last`, with the successive approximation's bit
// positions, followed by its entropy-coded data.
inline void appendJpegScan(Bytes& jpeg, std::initializer_list<BYTE> components, BYTE first, BYTE last,
                           BYTE approximation, const Bytes& data, int fillBytes = 0)
{
    Bytes header = {static_cast<BYTE>(components.size())};
    for (BYTE id : components)
        header.insert(header.end(), {id, 0});
    header.insert(header.end(), {first, last, approximation});
    appendJpegSegment(jpeg, 0xDA, header, fillBytes);
    jpeg.insert(jpeg.end(), data.begin(), data.end());
}

// A 512 x 512 colour picture in the ten scans of the common encoders' default progressive script, with fill bytes
// before each scan.
inline Bytes progressiveJpeg(const Bytes& segments)
{
    Bytes jpeg = jpegHeaders(0xC2, 512, 512, 3, segments);
    const Bytes dc(3 * 4096 / 8, 0);
    const Bytes ac = {0x00, 0x07};
    const struct {
        BYTE component, first, last, approximation;
    } scans[] = {{0, 0, 0, 0x01},  {1, 1, 5, 0x02}, {3, 1, 63, 0x01}, {2, 1, 63, 0x01}, {1, 6, 63, 0x02},
                 {1, 1, 63, 0x21}, {0, 0, 0, 0x10}, {3, 1, 63, 0x10}, {2, 1, 63, 0x10}, {1, 1, 63, 0x10}};
    for (const auto& scan : scans) {
        if (scan.component == 0)
            appendJpegScan(jpeg, {1, 2, 3}, 0, 0, scan.approximation, dc, 2);
        else
            appendJpegScan(jpeg, {scan.component}, scan.first, scan.last, scan.approximation, ac, 2);
    }
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

// A 512 x 512 colour picture in one scan with a restart marker after every four blocks of each component.
inline Bytes restartedJpeg()
{
    Bytes jpeg = jpegHeaders(0xC0, 512, 512, 3);
    appendJpegSegment(jpeg, 0xDD, {0, 4});
    Bytes data;
    for (int interval = 0; interval < 1024; ++interval) {
        if (interval > 0)
            data.insert(data.end(), {0xFF, static_cast<BYTE>(0xD0 + (interval - 1) % 8)});
        data.insert(data.end(), 3, 0);
    }
    appendJpegScan(jpeg, {1, 2, 3}, 0, 63, 0, data);
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}
