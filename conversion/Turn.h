#pragma once
#include "conversion/ITransform.h"

// Turns the picture by a quarter or a half turn. An unknown kind is refused with last error 87.
class Turn : public ITransform {
public:
    static constexpr int Anticlockwise = 0;
    static constexpr int Clockwise = 1;
    static constexpr int HalfTurn = 2;

    explicit Turn(int kind) : kind(kind) {}

    bool apply(const UINT32* pixels, int width, int height, UINT32*& outPixels, int& outWidth, int& outHeight,
               ICanceller* canceller) override;

private:
    int kind;
};
