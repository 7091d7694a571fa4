#include <gtest/gtest.h>
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
