#pragma once

#include "form.h"

// The About window: four centred labels on light yellow, with no code of its own.
class Form_About : public platform::Form {
public:
    Form_About();
};
