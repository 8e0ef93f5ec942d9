#include "engine/base/XException.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace {

struct ForeignException : fw::Exception {
    const char* ClassName() const override { return "ForeignException"; }
};

TEST(XException, FileCausesSelectTheirRows)
{
    EXPECT_EQ(CXFileException(2).TextIds().titleId, 24590);
    EXPECT_EQ(CXFileException(2).TextIds().explanationId, 24591);
    // Cause 6: its own title with the generic file text.
    EXPECT_EQ(CXFileException(6).TextIds().titleId, 24598);
    EXPECT_EQ(CXFileException(6).TextIds().explanationId, 24581);
    EXPECT_EQ(CXFileException(14).TextIds().titleId, 24611);
    // Anything else falls to the class's -1 row.
    EXPECT_EQ(CXFileException(99).TextIds().titleId, 24580);
    EXPECT_EQ(CXFileException(0).TextIds().explanationId, 24581);
}

TEST(XException, CausesOutsideTheTableFallBackToTheBaseRow)
{
    EXPECT_EQ(CMultiFileException(5).TextIds().titleId, 27656);
    EXPECT_EQ(CMultiFileException(6).TextIds().titleId, 24576);
    EXPECT_EQ(CMultiFileException(6).TextIds().explanationId, 24577);
    EXPECT_EQ(CMultiFileException(0).TextIds().titleId, 24576);
    EXPECT_EQ(CZLibException(3).TextIds().titleId, 27661);
    EXPECT_EQ(CZLibException(3).TextIds().explanationId, 27659);
    EXPECT_EQ(CZLibException(-3).TextIds().titleId, 24576);
    EXPECT_EQ(CInstallProfileException(0).TextIds().titleId, 10);
    EXPECT_EQ(CInstallProfileException(1).TextIds().explanationId, 13);
}

TEST(XException, LoadTextsClearsAndFills)
{
    CXFileException e(5);
    e.LoadTexts([](int32_t id) { return "text " + std::to_string(id); });
    EXPECT_EQ(e.Title(), "text 24596");
    EXPECT_EQ(e.Explanation(), "text 24597");
    e.LoadTexts([](int32_t) { return std::string(); });
    EXPECT_EQ(e.Title(), "");
}

TEST(XException, ErrorInformationNamesTheClass)
{
    EXPECT_EQ(CXFileException(2).ErrorInformation(17), "17.2 (CXFileException)");
    EXPECT_EQ(CMultiFileException(3).ErrorInformation(9), "9.3 (CMultiFileException)");
    EXPECT_EQ(CZLibException(-1).ErrorInformation(17), "17.-1 (CZLibException)");
}

TEST(XException, ConversionKeepsCauseAndClass)
{
    auto f = ConvertException(fw::FileException(fw::kFileSharingViolation, "x"));
    EXPECT_STREQ(f->ClassName(), "CXFileException");
    EXPECT_EQ(f->Cause(), 11);
    auto a = ConvertException(fw::ArchiveException(7));
    EXPECT_STREQ(a->ClassName(), "CXArchiveException");
    EXPECT_EQ(a->Cause(), 7);
    EXPECT_STREQ(ConvertException(fw::MemoryException())->ClassName(), "CXMemoryException");
    EXPECT_STREQ(ConvertException(fw::ResourceException())->ClassName(), "CXResourceException");
    EXPECT_STREQ(ConvertException(fw::UserException())->ClassName(), "CXUserException");
    EXPECT_STREQ(ConvertException(fw::NotSupportedException())->ClassName(), "CXNotSupportedException");
    auto other = ConvertException(ForeignException());
    EXPECT_STREQ(other->ClassName(), "CXException");
    EXPECT_EQ(other->Cause(), 1);
    EXPECT_EQ(other->ErrorInformation(9), "9.1 (CXException)");
    // Engine exceptions come through unchanged.
    auto m = ConvertException(CMultiFileException(2));
    EXPECT_STREQ(m->ClassName(), "CMultiFileException");
    EXPECT_EQ(m->Cause(), 2);
}

TEST(XException, ConvertCurrentException)
{
    auto convert = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return ConvertCurrentException();
        }
        return std::unique_ptr<CXException>();
    };
    EXPECT_STREQ(convert([] { throw std::bad_alloc(); })->ClassName(), "CXMemoryException");
    EXPECT_STREQ(convert([] { throw std::runtime_error("x"); })->ClassName(), "CXException");
    EXPECT_STREQ(convert([] { throw CZLibException(4); })->ClassName(), "CZLibException");
    EXPECT_EQ(convert([] { throw fw::FileException(fw::kFileDiskFull); })->Cause(), 13);
}

TEST(FileException, CausesFromSystemErrors)
{
    EXPECT_EQ(fw::FileException::CauseFromOsError(2), fw::kFileNotFound);
    EXPECT_EQ(fw::FileException::CauseFromOsError(3), fw::kFileBadPath);
    EXPECT_EQ(fw::FileException::CauseFromOsError(5), fw::kFileAccessDenied);
    EXPECT_EQ(fw::FileException::CauseFromOsError(32), fw::kFileSharingViolation);
    EXPECT_EQ(fw::FileException::CauseFromOsError(33), fw::kFileLockViolation);
    EXPECT_EQ(fw::FileException::CauseFromOsError(112), fw::kFileDiskFull);
    EXPECT_EQ(fw::FileException::CauseFromOsError(38), fw::kFileEndOfFile);
    EXPECT_EQ(fw::FileException::CauseFromOsError(12345), fw::kFileGeneric);
    EXPECT_EQ(fw::FileException::CauseFromErrno(ENOENT), fw::kFileNotFound);
    EXPECT_EQ(fw::FileException::CauseFromErrno(ENOSPC), fw::kFileDiskFull);
    EXPECT_EQ(fw::FileException::CauseFromErrno(EACCES), fw::kFileAccessDenied);
    EXPECT_EQ(fw::FileException::CauseFromErrno(EMFILE), fw::kFileTooManyOpen);
}

} // namespace
