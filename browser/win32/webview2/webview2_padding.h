#pragma once

// Counted placeholders for the interface methods this program never calls. Each placeholder is
// one virtual slot that answers E_NOTIMPL, so a class implementing an interface (the test
// runtime) need not write them out, and the slots after it keep their places.
// WV2_PAD(n) declares n slots with names unique to the line it is written on.

#define WV2_CAT2(a, b) a##b
#define WV2_CAT(a, b) WV2_CAT2(a, b)
#define WV2_PAD_SLOT(p, k)                                 \
    virtual HRESULT STDMETHODCALLTYPE WV2_CAT(p, _##k)() { \
        return E_NOTIMPL;                                  \
    }
#define WV2_PAD_1(p) WV2_PAD_SLOT(p, 1)
#define WV2_PAD_2(p) WV2_PAD_1(p) WV2_PAD_SLOT(p, 2)
#define WV2_PAD_3(p) WV2_PAD_2(p) WV2_PAD_SLOT(p, 3)
#define WV2_PAD_4(p) WV2_PAD_3(p) WV2_PAD_SLOT(p, 4)
#define WV2_PAD_5(p) WV2_PAD_4(p) WV2_PAD_SLOT(p, 5)
#define WV2_PAD_6(p) WV2_PAD_5(p) WV2_PAD_SLOT(p, 6)
#define WV2_PAD_7(p) WV2_PAD_6(p) WV2_PAD_SLOT(p, 7)
#define WV2_PAD_8(p) WV2_PAD_7(p) WV2_PAD_SLOT(p, 8)
#define WV2_PAD_9(p) WV2_PAD_8(p) WV2_PAD_SLOT(p, 9)
#define WV2_PAD_10(p) WV2_PAD_9(p) WV2_PAD_SLOT(p, 10)
#define WV2_PAD_11(p) WV2_PAD_10(p) WV2_PAD_SLOT(p, 11)
#define WV2_PAD_12(p) WV2_PAD_11(p) WV2_PAD_SLOT(p, 12)
#define WV2_PAD_13(p) WV2_PAD_12(p) WV2_PAD_SLOT(p, 13)
#define WV2_PAD_14(p) WV2_PAD_13(p) WV2_PAD_SLOT(p, 14)
#define WV2_PAD_15(p) WV2_PAD_14(p) WV2_PAD_SLOT(p, 15)
#define WV2_PAD_16(p) WV2_PAD_15(p) WV2_PAD_SLOT(p, 16)
#define WV2_PAD_17(p) WV2_PAD_16(p) WV2_PAD_SLOT(p, 17)
#define WV2_PAD_18(p) WV2_PAD_17(p) WV2_PAD_SLOT(p, 18)
#define WV2_PAD_19(p) WV2_PAD_18(p) WV2_PAD_SLOT(p, 19)
#define WV2_PAD_20(p) WV2_PAD_19(p) WV2_PAD_SLOT(p, 20)
#define WV2_PAD_21(p) WV2_PAD_20(p) WV2_PAD_SLOT(p, 21)
#define WV2_PAD_22(p) WV2_PAD_21(p) WV2_PAD_SLOT(p, 22)
#define WV2_PAD_23(p) WV2_PAD_22(p) WV2_PAD_SLOT(p, 23)
#define WV2_PAD_24(p) WV2_PAD_23(p) WV2_PAD_SLOT(p, 24)
#define WV2_PAD_25(p) WV2_PAD_24(p) WV2_PAD_SLOT(p, 25)
#define WV2_PAD_26(p) WV2_PAD_25(p) WV2_PAD_SLOT(p, 26)
#define WV2_PAD_27(p) WV2_PAD_26(p) WV2_PAD_SLOT(p, 27)
#define WV2_PAD_28(p) WV2_PAD_27(p) WV2_PAD_SLOT(p, 28)
#define WV2_PAD_29(p) WV2_PAD_28(p) WV2_PAD_SLOT(p, 29)
#define WV2_PAD_30(p) WV2_PAD_29(p) WV2_PAD_SLOT(p, 30)
#define WV2_PAD_31(p) WV2_PAD_30(p) WV2_PAD_SLOT(p, 31)
#define WV2_PAD_32(p) WV2_PAD_31(p) WV2_PAD_SLOT(p, 32)
#define WV2_PAD(n) WV2_CAT(WV2_PAD_, n)(WV2_CAT(wv2_unused_, __LINE__))
