// Placeholder until the window backend lands.
