// The plug-in's resource table: every dialog template, menu and icon, registered with fx when
// the module is loaded.
#pragma once

#include "fx/Resources.h"

extern const fx::ResourceTable kPellixResources;
