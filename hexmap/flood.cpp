// Placeholder until the search lands.
