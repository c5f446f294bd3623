#pragma once
// Unit Teengine: the data and layout half of the chart engine, one header a
// class family. Include this to get all of it.
#include "chart/engine/teevaluelist.h"
#include "chart/engine/teeseries.h"
#include "chart/engine/teefunction.h"
#include "chart/engine/teetools.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teepointer.h"
#include "chart/engine/teesources.h"
