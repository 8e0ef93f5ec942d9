// The setup engine's exception family. Every failure the user is told about
// is one of these: the class and the 32-bit cause select a title and an
// explanation from the string table (rows below), and the error dialog shows
// "<message id>.<cause> (<class name>)" as the error-information line.
// Free of <windows.h>: texts are looked up by id; loading them is the shell's job.
#pragma once
#include "framework/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One row of an exception class's message table. Cause -1 matches any cause.
struct MessageRow {
    int32_t cause;
    int32_t titleId;
    int32_t explanationId;
};

struct MessageRows {
    const MessageRow* rows;
    std::size_t count;
};

struct MessageIds {
    int32_t titleId;
    int32_t explanationId;
};

class CXException : public fw::Exception {
public:
    explicit CXException(int32_t cause = 1) : cause_(cause) {}
    const char* ClassName() const override { return "CXException"; }
    int32_t Cause() const { return cause_; }

    // The first row whose cause matches (or is -1); the CXException row when
    // the class's own rows give nothing.
    MessageIds TextIds() const;

    // Fills Title() and Explanation() through the given loader (string id -> text).
    template <class Loader> void LoadTexts(Loader&& load)
    {
        title_.clear();
        explanation_.clear();
        MessageIds ids = TextIds();
        title_ = load(ids.titleId);
        explanation_ = load(ids.explanationId);
    }
    const std::string& Title() const { return title_; }
    const std::string& Explanation() const { return explanation_; }

    // "%d.%d (%s)": message id, cause, class name.
    std::string ErrorInformation(int32_t messageId) const;

protected:
    virtual MessageRows Rows() const;

private:
    int32_t cause_;
    std::string title_;
    std::string explanation_;
};

// Name is a class name, which parentheses would not let through.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define CX_DECLARE_EXCEPTION(Name)                                                                                     \
    class Name : public CXException {                                                                                  \
    public:                                                                                                            \
        explicit Name(int32_t cause = 1) : CXException(cause) {}                                                       \
        const char* ClassName() const override { return #Name; }                                                       \
                                                                                                                       \
    protected:                                                                                                         \
        MessageRows Rows() const override;                                                                             \
    }
// NOLINTEND(bugprone-macro-parentheses)

CX_DECLARE_EXCEPTION(CXMemoryException);
CX_DECLARE_EXCEPTION(CXFileException);
CX_DECLARE_EXCEPTION(CXArchiveException);
CX_DECLARE_EXCEPTION(CXResourceException);
CX_DECLARE_EXCEPTION(CXUserException);
CX_DECLARE_EXCEPTION(CXNotSupportedException);
// The archive reader (causes 1 to 5), the deflate method (1 to 4) and the
// profile loaders (0, 1).
CX_DECLARE_EXCEPTION(CMultiFileException);
CX_DECLARE_EXCEPTION(CZLibException);
CX_DECLARE_EXCEPTION(CInstallProfileException);

#undef CX_DECLARE_EXCEPTION

// Causes of CMultiFileException.
enum MultiFileCause : int32_t {
    kMfUnknownMethod = 1,
    kMfNotArchive = 2,
    kMfMissingEntryHeader = 3,
    kMfCorruptTable = 4,
    kMfCrcMismatch = 5,
};

// Causes of CZLibException.
enum ZLibCause : int32_t {
    kZUnknown = 1,
    kZStreamError = 2,
    kZDataError = 3,
    kZBufferError = 4,
};

// Turns a framework exception into the engine family (engine exceptions are
// copied unchanged). Never returns null.
std::unique_ptr<CXException> ConvertException(const fw::Exception& e);

// Converts whatever is in flight inside a catch block: the framework family,
// the engine family, std::bad_alloc (memory), anything else (CXException 1).
std::unique_ptr<CXException> ConvertCurrentException();
