#pragma once
#include <gtest/gtest.h>
#include "foundation/Exception.h"

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
