// Entry point of kobax-personalize.
#include "personalize/personalize.h"
#include "platform/platform.h"

int main() {
  const auto platform = kobax::CreatePlatform();
  return kobax::RunPersonalize(*platform, platform->GetArguments());
}
