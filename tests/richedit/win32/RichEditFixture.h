// A test fixture that puts rich-edit controls on the shared test form and
// loads text into them the way a caller of the control does.
#pragma once

#include "richedit/MvRichEdit.h"
#include "richedit/MvRichEditStrings.h"

#include "base/Streams.h"
#include "tests/support/TestForm.h"

#include <gtest/gtest.h>

#include <string>

class TRichEditFixture : public ::testing::Test {
protected:
    TMvRichEdit* MakeEdit() {
        auto* R = new TMvRichEdit(FHolder.Owner());
        R->SetParent(&FHolder.Form());
        R->SetBounds(10, 10, 400, 300);
        R->HandleNeeded();
        return R;
    }
    static void Load(TMvRichEdit& R, const std::string& Data) {
        TStringStream S(Data);
        R.Lines().LoadFromStream(S);
    }
    TTestFormHolder FHolder;
};
