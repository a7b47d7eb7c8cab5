#pragma once

#include "form.h"

// The editor window's design: caption, client size, menu and its eleven controls.
const platform::FormDesign &Form1Design();
