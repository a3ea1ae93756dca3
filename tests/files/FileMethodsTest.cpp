// The file methods on a real control: temporary files, removal, reading back as a script
// array, and names that try to leave the control's folders.
#include <gtest/gtest.h>

#include <cstdint>

#include "../playback/ControlHarness.h"
#include "NeloRecognitionApp.h"
#include "WavWriter.h"
#include "files/FileIo.h"

using namespace pbtest;

namespace {

std::wstring Text(BSTR s) { return s ? std::wstring(s, SysStringLen(s)) : std::wstring(); }

// The bytes of a script array of VT_UI1 elements; fails the test on any other shape.
std::vector<BYTE> ArrayBytes(const VARIANT& v) {
    std::vector<BYTE> bytes;
    EXPECT_EQ(v.vt, VT_ARRAY | VT_VARIANT);
    if (v.vt != (VT_ARRAY | VT_VARIANT)) return bytes;
    EXPECT_EQ(SafeArrayGetDim(v.parray), 1u);
    LONG lower = -1, upper = -2;
    SafeArrayGetLBound(v.parray, 1, &lower);
    SafeArrayGetUBound(v.parray, 1, &upper);
    EXPECT_EQ(lower, 0);
    for (LONG i = lower; i <= upper; ++i) {
        VARIANT element;
        VariantInit(&element);
        SafeArrayGetElement(v.parray, &i, &element);
        EXPECT_EQ(element.vt, VT_UI1) << i;
        bytes.push_back(element.bVal);
        VariantClear(&element);
    }
    return bytes;
}

class FileMethods : public ::testing::Test {
protected:
    VARIANT GetFileData(LONG dirType, const wchar_t* name) {
        BSTR b = name ? SysAllocString(name) : nullptr;
        VARIANT v = m_ctrl->OcxGetFileData(dirType, b);
        SysFreeString(b);
        return v;
    }
    LONG Remove(const wchar_t* name) {
        BSTR b = name ? SysAllocString(name) : nullptr;
        const LONG r = m_ctrl->OcxRemoveFile(b);
        SysFreeString(b);
        return r;
    }
    ControlHolder m_ctrl;
};

TEST_F(FileMethods, CreateFileGivesTwoDistinctEmptyFiles) {
    BSTR first = m_ctrl->OcxCreateFile();
    BSTR second = m_ctrl->OcxCreateFile();
    const std::wstring a = Text(first), b = Text(second);
    SysFreeString(first);
    SysFreeString(second);
    EXPECT_NE(a, b);
    for (const std::wstring& name : {a, b}) {
        ASSERT_GT(name.size(), 7u);
        EXPECT_EQ(name.compare(0, 3, L"SND"), 0);
        EXPECT_EQ(name.substr(name.size() - 4), L".tmp");
        EXPECT_EQ(name.find(L'\\'), std::wstring::npos);
        EXPECT_EQ(FileSize(InRecordTemp(name)), 0);
    }
}

TEST_F(FileMethods, RemoveOnceThenFailsWithItsLine) {
    BSTR created = m_ctrl->OcxCreateFile();
    const std::wstring name = Text(created);
    SysFreeString(created);
    EXPECT_EQ(Remove(name.c_str()), 1);
    EXPECT_FALSE(FileExists(InRecordTemp(name)));
    LogWatch log;
    EXPECT_EQ(Remove(name.c_str()), 0);
    EXPECT_TRUE(log.Saw("DeleteFile Failed!"));
}

TEST_F(FileMethods, GetFileDataRefusalsAndAbsentFiles) {
    {
        LogWatch log;
        VARIANT v = GetFileData(2, L"x.wav");
        EXPECT_EQ(v.vt, VT_EMPTY);
        EXPECT_TRUE(log.Saw("OcxGetFileData nDirType[2] Error!"));
    }
    {
        LogWatch log;
        VARIANT v = GetFileData(0, L"does-not-exist.wav");
        EXPECT_EQ(v.vt, VT_EMPTY);
        EXPECT_EQ(log.NewText().find("(ERROR)"), std::string::npos) << log.NewText();
    }
}

TEST_F(FileMethods, EmptyFileGivesAnEmptyArray) {
    ASSERT_TRUE(WriteBytes(InRecordTemp(L"empty.bin"), {}));
    VARIANT v = GetFileData(0, L"empty.bin");
    EXPECT_TRUE(ArrayBytes(v).empty());
    VariantClear(&v);
}

TEST_F(FileMethods, RecordingComesBackHeaderThenSamples) {
    const int16_t samples[] = {0, 1, -1, 0x1234, -32768, 32767};
    const std::wstring path = InRecordTemp(L"rec.wav");
    ASSERT_TRUE(nelo::rec::WriteRecordingWav(path.c_str(), samples, 6, nullptr, 0));
    VARIANT v = GetFileData(0, L"rec.wav");
    const std::vector<BYTE> bytes = ArrayBytes(v);
    VariantClear(&v);
    ASSERT_EQ(bytes.size(), 44u + 12u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "WAVE");
    const std::vector<BYTE> sampleBytes(bytes.begin() + 44, bytes.end());
    EXPECT_EQ(sampleBytes, (std::vector<BYTE>{0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F}));
    EXPECT_EQ(bytes, ReadBytes(path));
}

TEST_F(FileMethods, FileInASubfolderOfTheRecordTempFolderIsReachable) {
    CreateDirectoryW(InRecordTemp(L"sub").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(InRecordTemp(L"sub\\one.bin"), {7, 8, 9}));
    VARIANT v = GetFileData(0, L"sub\\one.bin");
    EXPECT_EQ(ArrayBytes(v), (std::vector<BYTE>{7, 8, 9}));
    VariantClear(&v);
    EXPECT_EQ(Remove(L"sub/one.bin"), 1);
}

// Names that lead out of the folders, or are no file names at all: refused with the
// method's line, and the file they aim at is neither read nor deleted.
TEST_F(FileMethods, HostileNamesAreRefused) {
    // A file one level above the record-temp folder (in the working folder).
    const std::wstring outside = theApp.m_strWorkDir + L"\\outside.bin";
    ASSERT_TRUE(WriteBytes(outside, {1, 2, 3}));
    std::wstring absolute = outside;
    const wchar_t* const names[] = {
        L"..\\outside.bin", L"../outside.bin", L"sub\\..\\..\\outside.bin", absolute.c_str(),
        L"\\\\?\\C:\\outside.bin", L"\\\\server\\share\\x", L"C:outside.bin", L"NUL", L"con.txt",
        L"a.wav:stream", L"*.bin", L"", nullptr, L"trailing. ",
    };
    for (const wchar_t* name : names) {
        const std::string shown = name ? std::string(name, name + wcslen(name)) : std::string("(null)");
        {
            LogWatch log;
            VARIANT v = GetFileData(0, name);
            EXPECT_EQ(v.vt, VT_EMPTY) << shown;
            VariantClear(&v);
            EXPECT_TRUE(log.Saw("OcxGetFileData: param of strFileName is incorrect!")) << shown;
        }
        {
            LogWatch log;
            EXPECT_EQ(Remove(name), 0) << shown;
            EXPECT_TRUE(log.Saw("OcxRemoveFile: param of strFileName is incorrect!")) << shown;
        }
    }
    // An embedded NUL would cut the name short at the system's edge: refused too.
    BSTR withNul = SysAllocStringLen(L"x.bin\0..\\..\\outside.bin", 23);
    EXPECT_EQ(m_ctrl->OcxRemoveFile(withNul), 0);
    SysFreeString(withNul);
    EXPECT_TRUE(FileExists(outside));
    DeleteFileW(outside.c_str());
}

TEST(FileIo, WriteToFileReplacesContentsAndReportsAnUnopenableFile) {
    ControlHolder ctrl;  // for the folders
    const std::wstring path = InRecordTemp(L"w.bin");
    const BYTE longer[] = {1, 2, 3, 4, 5};
    const BYTE shorter[] = {9, 8};
    ASSERT_TRUE(WriteToFile(path, longer, 5));
    ASSERT_TRUE(WriteToFile(path, shorter, 2));
    EXPECT_EQ(ReadBytes(path), (std::vector<BYTE>{9, 8}));
    EXPECT_FALSE(WriteToFile(InRecordTemp(L"no-such-folder\\w.bin"), shorter, 2));
    // A file someone holds open without sharing cannot be written.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteToFile(path, longer, 5));
    CloseHandle(held);
    DeleteFileW(path.c_str());
}

TEST(FileIo, ReadWholeFileOutcomes) {
    ControlHolder ctrl;
    CByteBuffer bytes;
    EXPECT_EQ(ReadWholeFile(InRecordTemp(L"absent.bin"), bytes), EFileRead::CannotOpen);
    EXPECT_EQ(ReadWholeFile(RecordTempDir(), bytes), EFileRead::CannotOpen);  // a folder
    const std::wstring path = InRecordTemp(L"r.bin");
    std::vector<BYTE> data(200000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i * 7);
    ASSERT_TRUE(WriteBytes(path, data));
    ASSERT_EQ(ReadWholeFile(path, bytes), EFileRead::Read);
    EXPECT_EQ(std::vector<BYTE>(bytes.Get(), bytes.Get() + bytes.Size()), data);
    // A writer holding the file keeps readers that deny writing out.
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadWholeFile(path, bytes), EFileRead::CannotOpen);
    CloseHandle(writer);
    DeleteFileW(path.c_str());
}

}  // namespace
