function Counter(start) { this.n = start; }
Counter.prototype.next = function () { return ++this.n; };
var c = new Counter(4);
c.next();
trace("count " + c.next());      // count 6
for (var k in {a: 1}) trace(k);  // a
#frame
trace(typeof c + " " + (c instanceof Counter));  // object true
fscommand("quit");
