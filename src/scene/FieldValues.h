#pragma once

#include <Inventor/SbMatrix.h>
#include <Inventor/nodes/SoTransform.h>

// Sets the first value of a multiple-value field (a material's colour or
// transparency) unless it holds that value already: the scene looks the
// same, and a pass over unchanged materials sends no notifications.
template <class Field, class Value>
void SetFirstValue(Field& field, const Value& value) {
    if (field.getNum() < 1 || !(field[0] == value)) {
        field.set1Value(0, value);
    }
}

// The matrix a transform's own fields make, as a matrix action multiplies
// it in.
inline SbMatrix TransformMatrix(const SoTransform& t) {
    SbMatrix m;
    m.setTransform(t.translation.getValue(), t.rotation.getValue(), t.scaleFactor.getValue(),
                   t.scaleOrientation.getValue(), t.center.getValue());
    return m;
}
