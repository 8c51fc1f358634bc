// Placeholder until the headless backend lands.
