#pragma once

#include <stdexcept>

namespace tavi {

// The error every parser of outside files throws: a readable message.
class ParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tavi
