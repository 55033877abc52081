// A test of the engine that calls the producer's code: the layer check must name it.
#include "engine/InstallFiles.h"
#include "tests/engine/EngineFixture.h"
#include "tests/qepack/ProducerFixture.h"
#include "tools/qepack/Inspect.h"
