#pragma once

class QLineEdit;

namespace quorvane {

// Whenever the field gains focus, by tab or by click, its whole text is
// selected so that typing replaces it.
void SelectAllOnFocus(QLineEdit* field);

// Masks the field with one "*" per character, whatever the style's own
// password character is.
void ShowPasswordAsStars(QLineEdit* field);

}  // namespace quorvane
