#pragma once

// Symbols are hidden by default; these mark what crosses a shared-library boundary.
#define SERVICE_API __attribute__((visibility("default")))
#define SCENEENGINE_API __attribute__((visibility("default")))
