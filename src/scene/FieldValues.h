#pragma once

// Sets the first value of a multiple-value field (a material's colour or
// transparency) unless it holds that value already: the scene looks the
// same, and a pass over unchanged materials sends no notifications.
template <class Field, class Value>
void SetFirstValue(Field& field, const Value& value) {
    if (field.getNum() < 1 || !(field[0] == value)) {
        field.set1Value(0, value);
    }
}
