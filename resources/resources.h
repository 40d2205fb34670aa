// Registers the program's compiled-in resources; call once before any resource is used.
#pragma once

namespace resources {
void InitResources();
}
