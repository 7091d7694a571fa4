#pragma once
#include <gtest/gtest.h>
#include "foundation/Exception.h"

// The code of the Exception that `call` throws; -1 when it throws none.
template <typename Call>
int thrownCode(Call call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.getCode();
    }
    return -1;
}

// Runs the call and expects it to throw Exception with the code.
template <typename Call>
void expectCode(int code, Call call)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.getCode(), code);
    }
}
