#include <gtest/gtest.h>

#include "tests/support/RecordingContext.h"
#include "ui/TextCaret.h"

TEST(TextCaret, BlackAfterSetRectThenTranslucentWhiteEveryOtherBlink)
{
    CTextCaret caret;
    const std::string firstKey = caret.GetKey();
    caret.SetRect(CRectF(10.0f, 20.0f, 11.0f, 42.0f));
    EXPECT_NE(firstKey, caret.GetKey());
    const uint32_t expected[] = {0xFF000000, 0x80FFFFFF, 0xFF000000};
    for (uint32_t color : expected) {
        CRecordingContext context;
        caret.Draw(context);
        EXPECT_EQ("B0,1 M10,20 L10,42 L11,42 L11,20 Z E", context.Log());
        EXPECT_EQ(color, context.calls[0].state.fillColor);
        const std::string key = caret.GetKey();
        caret.Blink();
        EXPECT_NE(key, caret.GetKey());
    }
    caret.SetRect(CRectF(0.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_EQ(0u, caret.phase);
}
