#include "toolkit/core/paged_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using Bytes = std::vector<uint8_t>;

std::vector<int> gCallbackReasons;
void recordReason(int reason) { gCallbackReasons.push_back(reason); }

class PagedStreamTest : public test::ToolkitTest {
protected:
    void SetUp() override {
        test::ToolkitTest::SetUp();
        gCallbackReasons.clear();
        gSystemContext->errorCallback = recordReason;
    }
    void TearDown() override {
        dbStreamDestroy(stored);
        test::ToolkitTest::TearDown();
    }

    // Writes the bytes into `stored` from empty and closes it.
    void store(const Bytes& bytes) {
        OpenStream* s = dbStreamOpenWrite(stored);
        ASSERT_EQ(dbStreamPutBytes(s, bytes.data(), bytes.size()), 1);
        dbStreamCloseWrite(s);
    }
    OpenStream* reader() { return dbStreamOpenRead(stored); }

    PagedStream* stored = dbStreamCreate(4);
};

TEST_F(PagedStreamTest, AppendKeepsTheBytesAndAddsBehindThem) {
    store({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(dbStreamSizeOf(stored), 10);
    OpenStream* s = dbStreamOpenAppend(stored);
    EXPECT_EQ(dbStreamLength(s), 10);
    const uint8_t more[] = {10, 11, 12};
    ASSERT_EQ(dbStreamPutBytes(s, more, 3), 1);
    EXPECT_EQ(dbStreamLength(s), 13);
    dbStreamCloseWrite(s);
    EXPECT_EQ(stored->bytes, (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(dbStreamPageSize(stored), 4);

    s = dbStreamOpenWrite(stored);
    EXPECT_EQ(dbStreamLength(s), 0) << "writing starts from empty";
    dbStreamPutByte(s, 42);
    dbStreamClose(s);
    EXPECT_EQ(stored->bytes, (Bytes{42}));
}

TEST_F(PagedStreamTest, ShortReadsAreRefusedAndConsumeNothing) {
    store({1, 2, 3, 4, 5});
    OpenStream* s = reader();
    uint8_t buffer[8] = {};
    ASSERT_EQ(dbStreamGetBytes(s, buffer, 3), 1);
    EXPECT_EQ(dbStreamGetBytes(s, buffer, 3), 0) << "3 bytes wanted, 2 remain";
    EXPECT_EQ(dbStreamTell(s), 3);
    ASSERT_EQ(dbStreamGetBytes(s, buffer, 2), 1);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(buffer[1], 5);
    uint8_t byte = 0;
    EXPECT_EQ(dbStreamGetByte(s, byte), 0);
    EXPECT_EQ(dbStreamGetBytes(s, buffer, 0), 0) << "nothing remains";
    dbStreamCloseRead(s);
}

TEST_F(PagedStreamTest, SeekWithinAndToTheEnd) {
    store({10, 11, 12, 13, 14, 15, 16});
    OpenStream* s = reader();
    uint8_t buffer[3];
    EXPECT_EQ(dbStreamSeek(s, 7), 1) << "seeking to the size is allowed";
    EXPECT_EQ(dbStreamGetBytes(s, buffer, 1), 0) << "but nothing can be read there";
    EXPECT_EQ(dbStreamSeek(s, 8), 0);
    EXPECT_EQ(dbStreamSeek(s, -1), 0);
    EXPECT_EQ(dbStreamTell(s), 7) << "a refused seek leaves the position";

    ASSERT_EQ(dbStreamSeek(s, 2), 1);
    ASSERT_EQ(dbStreamGetBytes(s, buffer, 3), 1);
    ASSERT_EQ(dbStreamSeek(s, 3), 1) << "backwards";
    ASSERT_EQ(dbStreamGetBytes(s, buffer, 3), 1);
    EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{13, 14, 15}));
    EXPECT_EQ(dbStreamTell(s), 6);
    ASSERT_EQ(dbStreamRewind(s), 1);
    EXPECT_EQ(dbStreamTell(s), 0);
    dbStreamCloseRead(s);
}

TEST_F(PagedStreamTest, ValuesAreLittleEndian) {
    OpenStream* s = dbStreamOpenWrite(stored);
    dbStreamPutLong(s, 0x01020304);
    dbStreamPutShort(s, -2);
    dbStreamPutDouble(s, 1.0);
    dbStreamPutDword(s, 0xA1B2C3D4u);
    dbStreamPutWord(s, uint16_t(0xBEEF));
    dbStreamPutQword(s, 0x0102030405060708ull);
    dbStreamPutPoint2(s, Point2{-2.0, 0.5});
    dbStreamPutPoint3(s, Point3{1.0, 2.0, 3.0});
    dbStreamPutString(s, "abc");
    dbStreamCloseWrite(s);
    const Bytes expected = {
        0x04, 0x03, 0x02, 0x01,                          // long
        0xFE, 0xFF,                                      // short
        0, 0, 0, 0, 0, 0, 0xF0, 0x3F,                    // 1.0
        0xD4, 0xC3, 0xB2, 0xA1,                          // dword
        0xEF, 0xBE,                                      // word
        0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // qword
        0, 0, 0, 0, 0, 0, 0x00, 0xC0,                    // -2.0
        0, 0, 0, 0, 0, 0, 0xE0, 0x3F,                    // 0.5
        0, 0, 0, 0, 0, 0, 0xF0, 0x3F,                    // 1.0
        0, 0, 0, 0, 0, 0, 0x00, 0x40,                    // 2.0
        0, 0, 0, 0, 0, 0, 0x08, 0x40,                    // 3.0
        3, 0, 'a', 'b', 'c',                             // string
    };
    EXPECT_EQ(stored->bytes, expected);

    s = reader();
    int32_t l;
    int16_t sh;
    double d;
    uint32_t dw;
    uint16_t w;
    uint64_t q;
    Point3 p;
    double xy[2];
    std::string text;
    ASSERT_TRUE(dbStreamGetLong(s, l) && dbStreamGetShort(s, sh) && dbStreamGetDouble(s, d) &&
                dbStreamGetDword(s, dw) && dbStreamGetWord(s, w) && dbStreamGetQword(s, q) &&
                dbStreamGetDoubles(s, xy, 2) && dbStreamGetPoint24(s, p) && dbStreamGetString(s, text, 10));
    EXPECT_EQ(l, 0x01020304);
    EXPECT_EQ(sh, -2);
    EXPECT_EQ(d, 1.0);
    EXPECT_EQ(dw, 0xA1B2C3D4u);
    EXPECT_EQ(w, 0xBEEF);
    EXPECT_EQ(q, 0x0102030405060708ull);
    EXPECT_EQ(xy[0], -2.0);
    EXPECT_EQ(xy[1], 0.5);
    EXPECT_EQ(p, (Point3{1.0, 2.0, 3.0}));
    EXPECT_EQ(text, "abc");
    dbStreamCloseRead(s);
}

TEST_F(PagedStreamTest, ShortValueReadsTreatTheTargetAsThePartSays) {
    store({1, 2, 3});
    OpenStream* s = reader();
    int32_t l = 77;
    EXPECT_EQ(dbStreamGetLong(s, l), 0);
    EXPECT_EQ(l, 0) << "long and short targets are zeroed first";
    uint32_t dw = 77;
    EXPECT_EQ(dbStreamGetDword(s, dw), 0);
    EXPECT_EQ(dw, 77u) << "dword targets are left";
    double values[2] = {5, 5};
    EXPECT_EQ(dbStreamGetDoubles(s, values, 0), 1);
    EXPECT_EQ(dbStreamGetDoubles(s, values, 1), 0);
    EXPECT_EQ(dbStreamTell(s), 0);
    dbStreamCloseRead(s);

    // Point3 reads coordinate by coordinate and keeps what it read; Point24 reads all or none.
    OpenStream* w = dbStreamOpenWrite(stored);
    dbStreamPutDouble(w, 1.5);
    dbStreamPutDouble(w, 2.5);
    dbStreamCloseWrite(w);
    s = reader();
    Point3 p{9, 9, 9};
    EXPECT_EQ(dbStreamGetPoint24(s, p), 0);
    EXPECT_EQ(p, (Point3{9, 9, 9}));
    EXPECT_EQ(dbStreamTell(s), 0);
    EXPECT_EQ(dbStreamGetPoint3(s, p), 0);
    EXPECT_EQ(p, (Point3{1.5, 2.5, 9}));
    EXPECT_EQ(dbStreamTell(s), 16);
    dbStreamCloseRead(s);
}

TEST_F(PagedStreamTest, StringsAtTheLengthLimits) {
    const std::string longest(kStreamStringMaxLength, 'x');
    OpenStream* s = dbStreamOpenWrite(stored);
    EXPECT_EQ(dbStreamPutString(s, std::string(kStreamStringMaxLength + 1, 'y')), 0);
    EXPECT_EQ(dbStreamLength(s), 0) << "a refused string writes nothing";
    ASSERT_EQ(dbStreamPutString(s, longest), 1);
    ASSERT_EQ(dbStreamPutString(s, ""), 1);
    ASSERT_EQ(dbStreamPutString(s, "four"), 1);
    ASSERT_EQ(dbStreamPutString(s, "five5"), 1);
    const uint8_t negative[] = {0xFF, 0xFF, 'z'};
    dbStreamPutBytes(s, negative, 3);
    const uint8_t pastTheEnd[] = {9, 0, 'a', 'b'};
    dbStreamPutBytes(s, pastTheEnd, 4);
    dbStreamCloseWrite(s);
    EXPECT_EQ(stored->bytes[0], 0xFF);
    EXPECT_EQ(stored->bytes[1], 0x7F);

    s = reader();
    std::string text = "before";
    ASSERT_EQ(dbStreamGetString(s, text, kStreamStringMaxLength), 1);
    EXPECT_EQ(text, longest);
    ASSERT_EQ(dbStreamGetString(s, text, 0), 1);
    EXPECT_EQ(text, "");
    ASSERT_EQ(dbStreamGetString(s, text, 4), 1) << "length equal to the limit";
    EXPECT_EQ(text, "four");
    EXPECT_TRUE(gCallbackReasons.empty());

    text = "kept";
    EXPECT_EQ(dbStreamGetString(s, text, 4), 0) << "length one above the limit";
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(gCallbackReasons, (std::vector<int>{kErrorReasonBadLength}));
    ASSERT_EQ(dbStreamSeek(s, dbStreamTell(s) + 5), 1);
    EXPECT_EQ(dbStreamGetString(s, text, 100), 0) << "negative length";
    EXPECT_EQ(gCallbackReasons.size(), 2u);
    uint8_t z = 0;
    ASSERT_EQ(dbStreamGetByte(s, z), 1);
    EXPECT_EQ(dbStreamGetString(s, text, 100), 0) << "length running past the end";
    EXPECT_EQ(text, "kept");
    ASSERT_EQ(dbStreamSeek(s, dbStreamLength(s)), 1);
    EXPECT_EQ(dbStreamGetString(s, text, 100), 0);
    EXPECT_EQ(text, "") << "a stream at its end yields an empty string";
    dbStreamCloseRead(s);
}

TEST_F(PagedStreamTest, UngetReturnsTheByteToTheNextRead) {
    store({1, 2, 3});
    OpenStream* s = reader();
    uint8_t b = 0;
    EXPECT_EQ(dbStreamUngetByte(s, 9), 0) << "nothing read yet";
    ASSERT_EQ(dbStreamGetByte(s, b), 1);
    ASSERT_EQ(dbStreamUngetByte(s, b), 1);
    uint16_t w = 0;
    ASSERT_EQ(dbStreamGetWord(s, w), 1);
    EXPECT_EQ(w, 0x0201);
    dbStreamCloseRead(s);
}

TEST_F(PagedStreamTest, BytesCopiedFromTheBitReaderKeepTheirBitAlignment) {
    Bytes source(700);
    for (size_t i = 0; i < source.size(); ++i) source[i] = uint8_t(i * 7 + 3);
    BitReader bits(source);
    bits.skipBits(3);
    OpenStream* s = dbStreamOpenWrite(stored);
    ASSERT_EQ(dbStreamPutFromBits(s, bits, 600), 1) << "more than one 512-byte chunk";
    EXPECT_EQ(dbStreamPutFromBits(s, bits, 100), 0) << "99 bytes and 5 bits are left";
    EXPECT_TRUE(bits.overrun());
    dbStreamCloseWrite(s);
    ASSERT_EQ(stored->bytes.size(), 600u);
    for (size_t i = 0; i < 600; ++i) {
        ASSERT_EQ(stored->bytes[i], uint8_t((source[i] << 3) | (source[i + 1] >> 5))) << "byte " << i;
    }
}

TEST_F(PagedStreamTest, PatchOverwritesOnlyInsideTheBytes) {
    store({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    const uint8_t patch[] = {0xA, 0xB, 0xC};
    EXPECT_EQ(dbStreamPatchBytes(stored, 3, patch, 3), 1);
    EXPECT_EQ(dbStreamPatchBytes(stored, 8, patch, 3), 0);
    EXPECT_EQ(dbStreamPatchBytes(stored, -1, patch, 1), 0);
    EXPECT_EQ(dbStreamPatchBytes(nullptr, 0, patch, 1), 0);
    EXPECT_EQ(stored->bytes, (Bytes{0, 1, 2, 0xA, 0xB, 0xC, 6, 7, 8, 9}));
}

TEST_F(PagedStreamTest, NullStreamsFailAndTheCheckedFormsSayWhy) {
    uint64_t q = 0;
    uint8_t sixteen[16] = {};
    struct Case {
        const char* name;
        int result;
        int error;
    } cases[] = {
        {"get qword checked", dbStreamGetQwordChecked(nullptr, q), kErrorReadFromNullStream},
        {"put qword checked", dbStreamPutQwordChecked(nullptr, q), kErrorWriteToNullStream},
        {"put 16", dbStreamPut16(nullptr, sixteen), kErrorWriteToNullStream},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, 0);
    }
    EXPECT_EQ(gSystemContext->errorNumber, kErrorWriteToNullStream);
    dbStreamGetQwordChecked(nullptr, q);
    EXPECT_EQ(gSystemContext->errorNumber, kErrorReadFromNullStream);

    EXPECT_EQ(dbStreamOpenRead(nullptr), nullptr);
    EXPECT_EQ(dbStreamOpenWrite(nullptr), nullptr);
    EXPECT_EQ(dbStreamOpenAppend(nullptr), nullptr);
    EXPECT_EQ(dbStreamDestroy(nullptr), 0);
    EXPECT_EQ(dbStreamCloseRead(nullptr), 0);
    EXPECT_EQ(dbStreamCloseWrite(nullptr), 0);
    EXPECT_EQ(dbStreamSizeOf(nullptr), 0);
    EXPECT_EQ(dbStreamPutByte(nullptr, 1), 0);
    uint8_t b;
    EXPECT_EQ(dbStreamGetByte(nullptr, b), 0);
    EXPECT_EQ(dbStreamSeek(nullptr, 0), 0);
    EXPECT_EQ(dbStreamRewind(nullptr), 0);
}

TEST_F(PagedStreamTest, ModesKeepReadsAndWritesApart) {
    store({1, 2});
    OpenStream* r = reader();
    EXPECT_EQ(dbStreamPutByte(r, 3), 0);
    dbStreamCloseRead(r);
    OpenStream* w = dbStreamOpenAppend(stored);
    uint8_t b;
    EXPECT_EQ(dbStreamGetByte(w, b), 0);
    EXPECT_EQ(dbStreamSeek(w, 0), 0);
    dbStreamPutByte(w, 3);
    ASSERT_EQ(dbStreamRewind(w), 1) << "rewinding turns the stream to reading";
    ASSERT_EQ(dbStreamGetByte(w, b), 1);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(dbStreamLength(w), 3);
    dbStreamCloseWrite(w);
    EXPECT_EQ(stored->bytes, (Bytes{1, 2, 3}));
}

// 100,000 random operations against a std::vector model of the bytes and the read offset.
TEST_F(PagedStreamTest, RandomOperationsMatchAStdVectorModel) {
    std::mt19937 rng(1104);
    Bytes model;
    size_t readOffset = 0;
    OpenStream* s = dbStreamOpenWrite(stored);
    bool writing = true;

    auto randomBytes = [&](size_t n) {
        Bytes bytes(n);
        for (uint8_t& b : bytes) b = uint8_t(rng());
        return bytes;
    };
    for (int step = 0; step < 100000; ++step) {
        const int op = int(rng() % 16);
        if (writing) {
            if (op < 4) {
                Bytes bytes = randomBytes(rng() % 40);
                ASSERT_EQ(dbStreamPutBytes(s, bytes.data(), bytes.size()), 1);
                model.insert(model.end(), bytes.begin(), bytes.end());
            } else if (op < 7) {
                uint8_t b = uint8_t(rng());
                ASSERT_EQ(dbStreamPutByte(s, b), 1);
                model.push_back(b);
            } else if (op < 9) {
                uint32_t v = uint32_t(rng());
                ASSERT_EQ(dbStreamPutLong(s, int32_t(v)), 1);
                for (int i = 0; i < 4; ++i) model.push_back(uint8_t(v >> (8 * i)));
            } else if (op < 11) {
                Bytes text = randomBytes(rng() % 12);
                ASSERT_EQ(dbStreamPutString(s, std::string(text.begin(), text.end())), 1);
                model.push_back(uint8_t(text.size()));
                model.push_back(0);
                model.insert(model.end(), text.begin(), text.end());
            } else if (op < 13 && model.size() > 4) {  // patch a closed stream
                dbStreamCloseWrite(s);
                size_t at = rng() % model.size();
                Bytes patch = randomBytes(1 + rng() % 6);
                bool fits = at + patch.size() <= model.size();
                ASSERT_EQ(dbStreamPatchBytes(stored, int32_t(at), patch.data(), int(patch.size())), fits ? 1 : 0);
                if (fits) std::copy(patch.begin(), patch.end(), model.begin() + long(at));
                s = dbStreamOpenAppend(stored);
            } else if (op == 13 && model.size() > 3000) {  // start again from empty
                dbStreamCloseWrite(s);
                s = dbStreamOpenWrite(stored);
                model.clear();
            } else if (op >= 14) {  // close and read
                ASSERT_EQ(dbStreamCloseWrite(s), 1);
                s = dbStreamOpenRead(stored);
                writing = false;
                readOffset = 0;
            }
            ASSERT_EQ(dbStreamLength(s), int32_t(model.size()));
        } else {
            const size_t left = model.size() - readOffset;
            if (op < 4) {
                size_t n = rng() % 48;
                Bytes out(n, 0xEE);
                int expected = (n <= left && left > 0) ? 1 : 0;
                ASSERT_EQ(dbStreamGetBytes(s, out.data(), n), expected) << "step " << step;
                if (expected) {
                    ASSERT_TRUE(std::equal(out.begin(), out.end(), model.begin() + long(readOffset)));
                    readOffset += n;
                } else {
                    ASSERT_EQ(out, Bytes(n, 0xEE));
                }
            } else if (op < 6) {
                uint8_t b = 0;
                ASSERT_EQ(dbStreamGetByte(s, b), left >= 1 ? 1 : 0);
                if (left >= 1) {
                    ASSERT_EQ(b, model[readOffset]);
                    ++readOffset;
                    if (rng() % 2) {
                        ASSERT_EQ(dbStreamUngetByte(s, b), 1);
                        --readOffset;
                    }
                }
            } else if (op < 8) {
                int32_t value = 0;
                ASSERT_EQ(dbStreamGetLong(s, value), left >= 4 ? 1 : 0);
                if (left >= 4) {
                    uint32_t expected = 0;
                    for (int i = 0; i < 4; ++i) expected |= uint32_t(model[readOffset + i]) << (8 * i);
                    ASSERT_EQ(uint32_t(value), expected);
                    readOffset += 4;
                }
            } else if (op < 11) {
                int32_t to = int32_t(rng() % (model.size() + 3));
                int expected = size_t(to) <= model.size() ? 1 : 0;
                ASSERT_EQ(dbStreamSeek(s, to), expected);
                if (expected) readOffset = size_t(to);
            } else if (op == 11) {
                ASSERT_EQ(dbStreamRewind(s), 1);
                readOffset = 0;
            } else if (op >= 14) {  // back to appending
                ASSERT_EQ(dbStreamCloseRead(s), 1);
                s = dbStreamOpenAppend(stored);
                writing = true;
            }
            if (!writing) {
                ASSERT_EQ(dbStreamTell(s), int32_t(readOffset));
                ASSERT_EQ(dbStreamLength(s), int32_t(model.size()));
            }
        }
        ASSERT_EQ(dbStreamSizeOf(stored), int32_t(model.size()));
    }
    dbStreamClose(s);
    EXPECT_EQ(stored->bytes, model);
}

} // namespace
} // namespace tracemill
