// Keeps the portable library non-empty while an area has no portable sources yet.
