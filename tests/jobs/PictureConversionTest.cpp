#include <gtest/gtest.h>
#include <new>
#include "foundation/Exception.h"
#include "jobs/PictureConversion.h"
#include "support/CancelAfter.h"

TEST(PictureConversion, AnExceptionOfAPictureIsItsFailureOrTheUsersCancel)
{
    auto refused = []() -> PictureOutcome { throw Exception(ERROR_INVALID_DATA); };
    EXPECT_EQ(pictureStep(nullptr, refused), PictureOutcome::Failed);
    CancelAfter goingOn(100);
    EXPECT_EQ(pictureStep(&goingOn, refused), PictureOutcome::Failed);
    CancelAfter cancelled(0);
    EXPECT_EQ(pictureStep(&cancelled, refused), PictureOutcome::Cancelled);
    EXPECT_EQ(pictureStep(&cancelled, [] { return PictureOutcome::TimesNotKept; }), PictureOutcome::TimesNotKept);
}

// A picture too large for the memory there is fails alone, with the reason the rest of the program gives.
TEST(PictureConversion, APictureThatRunsOutOfMemoryFailsAlone)
{
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(pictureStep(nullptr, []() -> PictureOutcome { throw std::bad_alloc(); }), PictureOutcome::Failed);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}
