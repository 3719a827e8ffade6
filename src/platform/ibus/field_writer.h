#pragma once

#include <cstddef>
#include <string_view>

namespace orvalin::ibus {

// What the route does to the focused text field through its input context.
class FieldWriter {
public:
    virtual ~FieldWriter() = default;
    virtual void commit(std::string_view text) = 0;
    // Shows `text` under the cursor, not yet part of the field's text; the field keeps it if the
    // focus leaves meanwhile.
    virtual void showPreedit(std::string_view text) = 0;
    virtual void hidePreedit() = 0;
    // Deletes `characters` code points right before the cursor.
    virtual void deleteBeforeCursor(std::size_t characters) = 0;
};

}  // namespace orvalin::ibus
