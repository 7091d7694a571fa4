#pragma once

// Supplies a 3 x 3 kernel; ImageConvert::ConvolutionFilter applies it.
class IConvolutionFilter {
public:
    virtual ~IConvolutionFilter() = default;
    // Nine weights row by row (above, own row, below), each row left, centre, right.
    virtual void kernel(double weights[9]) = 0;
};
