#pragma once

// The record lives in the stream model beside the other shared records (TCutObject, TCueObject),
// so that the engine's export can take it without depending on the project documents.
#include "stream/project_properties.h"
