#pragma once
// The two transmission formats: private customers and public administrations.
enum class XmlFormat { FPR12, FPA12 };
