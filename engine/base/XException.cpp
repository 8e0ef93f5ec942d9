#include "engine/base/XException.h"

#include "resources/ids.h"

#include <cstdio>
#include <new>

namespace {

template <std::size_t N> MessageRows RowsOf(const MessageRow (&rows)[N]) { return {rows, N}; }

const MessageRow kXRows[] = {{-1, IDS_ERR_UNKNOWN, IDS_ERR_UNKNOWN_TEXT}};
const MessageRow kMemoryRows[] = {{-1, IDS_ERR_MEMORY, IDS_ERR_MEMORY_TEXT}};
const MessageRow kFileRows[] = {
    {2, 24590, 24591},  {3, 24592, 24593},  {4, 24594, 24595},  {5, 24596, 24597},  {6, 24598, 24581},
    {7, 24599, 24581},  {8, 24600, 24601},  {9, 24602, 24581},  {10, 24603, 24604}, {11, 24605, 24606},
    {12, 24607, 24608}, {13, 24609, 24610}, {14, 24611, 24581}, {-1, 24580, 24581},
};
const MessageRow kArchiveRows[] = {{-1, 24582, 24583}};
const MessageRow kResourceRows[] = {{-1, 24584, 24585}};
const MessageRow kUserRows[] = {{-1, 24586, 24587}};
const MessageRow kNotSupportedRows[] = {{-1, 24588, 24589}};
const MessageRow kMultiFileRows[] = {
    {1, 27648, 27649}, {2, 27650, 27651}, {3, 27652, 27653}, {4, 27654, 27655}, {5, 27656, 27657},
};
const MessageRow kZLibRows[] = {{1, 27658, 27659}, {2, 27660, 27659}, {3, 27661, 27659}, {4, 27662, 27659}};
const MessageRow kProfileRows[] = {{-1, IDS_PROFILE_TITLE, IDS_PROFILE_TEXT}};

} // namespace

MessageRows CXException::Rows() const { return RowsOf(kXRows); }
MessageRows CXMemoryException::Rows() const { return RowsOf(kMemoryRows); }
MessageRows CXFileException::Rows() const { return RowsOf(kFileRows); }
MessageRows CXArchiveException::Rows() const { return RowsOf(kArchiveRows); }
MessageRows CXResourceException::Rows() const { return RowsOf(kResourceRows); }
MessageRows CXUserException::Rows() const { return RowsOf(kUserRows); }
MessageRows CXNotSupportedException::Rows() const { return RowsOf(kNotSupportedRows); }
MessageRows CMultiFileException::Rows() const { return RowsOf(kMultiFileRows); }
MessageRows CZLibException::Rows() const { return RowsOf(kZLibRows); }
MessageRows CInstallProfileException::Rows() const { return RowsOf(kProfileRows); }

MessageIds CXException::TextIds() const
{
    MessageRows own = Rows();
    for (std::size_t i = 0; i < own.count; ++i) {
        const MessageRow& r = own.rows[i];
        if (r.cause == cause_ || r.cause == -1) return {r.titleId, r.explanationId};
    }
    return {kXRows[0].titleId, kXRows[0].explanationId};
}

std::string CXException::ErrorInformation(int32_t messageId) const
{
    char buf[160];
    // Two ints and a class name: never near the size.
    (void)std::snprintf(buf, sizeof buf, "%d.%d (%s)", static_cast<int>(messageId), static_cast<int>(cause_),
                        ClassName());
    return buf;
}

namespace {

template <class T> std::unique_ptr<CXException> CopyAs(const CXException& e)
{
    return std::make_unique<T>(static_cast<const T&>(e));
}

std::unique_ptr<CXException> CopyEngine(const CXException& e)
{
    // Keeps the dynamic class so that the report names it.
    if (dynamic_cast<const CMultiFileException*>(&e)) return CopyAs<CMultiFileException>(e);
    if (dynamic_cast<const CZLibException*>(&e)) return CopyAs<CZLibException>(e);
    if (dynamic_cast<const CInstallProfileException*>(&e)) return CopyAs<CInstallProfileException>(e);
    if (dynamic_cast<const CXMemoryException*>(&e)) return CopyAs<CXMemoryException>(e);
    if (dynamic_cast<const CXFileException*>(&e)) return CopyAs<CXFileException>(e);
    if (dynamic_cast<const CXArchiveException*>(&e)) return CopyAs<CXArchiveException>(e);
    if (dynamic_cast<const CXResourceException*>(&e)) return CopyAs<CXResourceException>(e);
    if (dynamic_cast<const CXUserException*>(&e)) return CopyAs<CXUserException>(e);
    if (dynamic_cast<const CXNotSupportedException*>(&e)) return CopyAs<CXNotSupportedException>(e);
    return std::make_unique<CXException>(e);
}

} // namespace

std::unique_ptr<CXException> ConvertException(const fw::Exception& e)
{
    if (auto* x = dynamic_cast<const CXException*>(&e)) return CopyEngine(*x);
    if (dynamic_cast<const fw::MemoryException*>(&e)) return std::make_unique<CXMemoryException>();
    if (auto* f = dynamic_cast<const fw::FileException*>(&e)) return std::make_unique<CXFileException>(f->Cause());
    if (auto* a = dynamic_cast<const fw::ArchiveException*>(&e))
        return std::make_unique<CXArchiveException>(a->Cause());
    if (dynamic_cast<const fw::NotSupportedException*>(&e)) return std::make_unique<CXNotSupportedException>();
    if (dynamic_cast<const fw::ResourceException*>(&e)) return std::make_unique<CXResourceException>();
    if (dynamic_cast<const fw::UserException*>(&e)) return std::make_unique<CXUserException>();
    return std::make_unique<CXException>(1);
}

std::unique_ptr<CXException> ConvertCurrentException()
{
    try {
        throw;
    } catch (const fw::Exception& e) {
        return ConvertException(e);
    } catch (const std::bad_alloc&) {
        return std::make_unique<CXMemoryException>();
    } catch (...) {
        return std::make_unique<CXException>(1);
    }
}
