#pragma once
// State of the boxed tables while a document is drawn (one set per run).

namespace vorpla {

struct StatoTabelle
{
};

} // namespace vorpla
