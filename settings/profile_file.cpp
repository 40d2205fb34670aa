// The profile-file layer (not built yet).
