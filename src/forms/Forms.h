#pragma once

// Everything a dialog needs: the form, every control kind and the toolkit interface.
#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Line.h"
#include "forms/ListBox.h"
#include "forms/ProgressBar.h"
#include "forms/TextBox.h"
#include "forms/Timer.h"
#include "forms/Toolkit.h"
