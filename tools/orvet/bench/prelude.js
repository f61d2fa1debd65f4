function proto(f) { return f.prototype; }
