// SPDX-License-Identifier: MIT
#include "core/error.h"

#include <cerrno>

#include "core/translate.h"

namespace vexalo {

std::error_code LastError()
{
    return SystemError(errno);
}
namespace {

class WriteErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "vexalo-write"; }
    std::string message(int code) const override
    {
        switch (static_cast<WriteError>(code)) {
        case WriteError::ForeignLink:
            return Translate("Save", "a link owned by another user, not followed");
        case WriteError::DanglingLink:
            return Translate("Save", "a link to a file that does not exist, not created through");
        }
        return "unknown write error";
    }
};

} // namespace

const std::error_category& WriteCategory()
{
    static const WriteErrorCategory category;
    return category;
}

std::error_code make_error_code(WriteError error)
{
    return {static_cast<int>(error), WriteCategory()};
}

} // namespace vexalo
