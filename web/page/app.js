"use strict";
// The panel: renders the state documents of the events socket and sends the user's clicks to
// the JSON interface. Everything shown comes from the program; nothing is guessed here.

const byId = (id) => document.getElementById(id);
let csrf = "";
let state = null;
let editedOutput = 0;

function element(tag, className, text) {
  const made = document.createElement(tag);
  if (className) made.className = className;
  if (text !== undefined) made.textContent = text;
  return made;
}

async function call(method, path, body) {
  const headers = {"X-CSRF-Token": csrf};
  const reply = await fetch(path, {method, body, headers, credentials: "same-origin"});
  if (reply.status === 401) {
    window.location.assign("/login");
    throw new Error("Sign in first");
  }
  if (!reply.ok) {
    throw new Error((await reply.text()).trim() || reply.statusText);
  }
  return reply.status === 204 ? null : reply.json();
}

function report(error) {
  window.alert(error.message);
}

// Built once; render() only changes texts and classes.
function buildPanel() {
  const outputs = byId("outputs");
  for (let k = 1; k <= 8; ++k) {
    const card = element("div", "output");
    card.id = "output" + k;
    const title = element("h3");
    const lamp = element("span", "lamp unknown");
    lamp.setAttribute("role", "img");
    title.append(lamp, element("span", "name", "Väljund " + k));
    const marks = element("div", "marks");
    const buttons = element("div", "buttons");
    const toggle = element("button", "switch", "S");
    toggle.type = "button";
    toggle.title = "for switching output ON (S) or OFF (V)";
    toggle.addEventListener("click", () => {
      const wanted = state && state.outputs[k - 1].wanted === "ON" ? "OFF" : "ON";
      call("POST", `/api/output/${k}/set`, wanted).catch(report);
    });
    const auto = element("button", "auto", "Auto");
    auto.type = "button";
    auto.title = "Switch this output to timer controll";
    auto.addEventListener("click", () => {
      const control = state && state.outputs[k - 1].control === "AUTO" ? "MANUAL" : "AUTO";
      call("POST", `/api/output/${k}/control`, control).catch(report);
    });
    const times = element("button", "times", "Ajad");
    times.type = "button";
    times.addEventListener("click", () => openTimes(k));
    buttons.append(toggle, auto, times);
    card.append(title, marks, buttons);
    outputs.append(card);
  }
  const inputs = byId("inputs");
  for (let k = 1; k <= 8; ++k) {
    const input = element("div", "input");
    input.id = "input" + k;
    input.append(element("span", "lamp unknown"), element("span", "name", "Sisend " + k));
    inputs.append(input);
  }
}

function showLamp(lamp, level) {
  lamp.classList.toggle("on", level === "ON");
  lamp.classList.toggle("unknown", level === null);
  lamp.title = level === null ? "Plaati ei saa lugeda" : level;
}

function render(next) {
  state = next;
  byId("clock").textContent = next.time.replace("T", " ");
  byId("mail").textContent = next.mail.enabled
    ? `Mail: ${next.mail.minutes_left} min` : "Mail: väljas";
  next.outputs.forEach((output) => {
    const card = byId("output" + output.number);
    card.querySelector(".name").textContent = output.name || "Väljund " + output.number;
    showLamp(card.querySelector(".lamp"), output.board);
    card.classList.toggle("failed", output.failed);
    const marks = card.querySelector(".marks");
    marks.replaceChildren();
    if (output.failed) marks.append(element("span", "fail", "Output FAIL warning "));
    marks.append(output.control === "AUTO" ? "AUTO" : "MANUAL");
    if (output.strobe) marks.append(" · Strobo");
    if (output.board === null) marks.append(" · plaat?");
    card.querySelector(".switch").textContent = output.wanted === "ON" ? "V" : "S";
    card.querySelector(".auto").classList.toggle("auto-on", output.control === "AUTO");
  });
  next.inputs.forEach((input) => {
    const row = byId("input" + input.number);
    row.querySelector(".name").textContent = input.name || "Sisend " + input.number;
    showLamp(row.querySelector(".lamp"), input.state);
  });
}

// Reconnects by itself; while it cannot, the panel is greyed out and says so.
function connectEvents(delayMs) {
  const scheme = window.location.protocol === "https:" ? "wss:" : "ws:";
  const socket = new WebSocket(`${scheme}//${window.location.host}/api/events`);
  socket.onopen = () => {
    delayMs = 1000;
    document.body.classList.remove("offline");
    byId("offline").hidden = true;
  };
  socket.onmessage = (message) => render(JSON.parse(message.data));
  socket.onclose = () => {
    document.body.classList.add("offline");
    byId("offline").hidden = false;
    // A session that ended shows as a refused socket: the sign-in page says what to do.
    fetch("/api/session", {credentials: "same-origin"}).then((reply) => {
      if (reply.status === 401) window.location.assign("/login");
    }, () => {});
    setTimeout(() => connectEvents(Math.min(delayMs * 2, 15000)), delayMs);
  };
}

function entryRow(entry, index) {
  const row = element("div", "entry");
  const set = element("input");
  set.type = "checkbox";
  set.checked = entry.set;
  set.title = "Lülitus " + (index + 1);
  const field = (type, value, label) => {
    const input = element("input");
    input.type = type;
    if (type === "time") input.step = 1;
    input.value = value;
    input.setAttribute("aria-label", label);
    return input;
  };
  // Editing an entry means it is to be kept.
  row.addEventListener("input", (event) => { if (event.target !== set) set.checked = true; });
  row.append(set,
    field("time", entry.on_time, "Sisselülituse aeg"), field("date", entry.on_date, "Sisselülituse kuupäev"),
    element("span", "", ""),
    field("time", entry.off_time, "Väljalülituse aeg"), field("date", entry.off_date, "Väljalülituse kuupäev"));
  return row;
}

async function openTimes(k) {
  try {
    const times = await call("GET", `/api/output/${k}/times`);
    editedOutput = k;
    byId("timesTitle").textContent = `Ajad: väljund ${k}`;
    byId("timesName").value = times.name.trim();
    byId("timesDaily").checked = times.daily;
    byId("strobeOn").value = times.strobe_on;
    byId("strobeOff").value = times.strobe_off;
    byId("timesError").textContent = "";
    byId("entries").replaceChildren(...times.entries.map(entryRow));
    byId("times").hidden = false;
    byId("times").scrollIntoView();
  } catch (error) {
    report(error);
  }
}

async function saveTimes(event) {
  event.preventDefault();
  const entries = [...byId("entries").children].map((row) => {
    const [set, onTime, onDate, , offTime, offDate] = row.children;
    return {set: set.checked, on_time: onTime.value, on_date: onDate.value,
            off_time: offTime.value, off_date: offDate.value};
  });
  const document_ = {name: byId("timesName").value, daily: byId("timesDaily").checked,
                     strobe_on: byId("strobeOn").value, strobe_off: byId("strobeOff").value, entries};
  try {
    await call("PUT", `/api/output/${editedOutput}/times`, JSON.stringify(document_));
    byId("times").hidden = true;
  } catch (error) {
    byId("timesError").textContent = error.message;
  }
}

async function showLog() {
  try {
    const log = await call("GET", "/api/log?tail=200");
    const view = byId("log");
    view.textContent = log.lines.join("\n");
    view.scrollTop = view.scrollHeight;
  } catch (error) {
    report(error);
  }
}

async function start() {
  buildPanel();
  byId("allOff").addEventListener("click", () => {
    if (window.confirm("All outputs OFF?")) call("POST", "/api/all-off").catch(report);
  });
  byId("timesForm").addEventListener("submit", saveTimes);
  byId("timesClose").addEventListener("click", () => { byId("times").hidden = true; });
  byId("logRefresh").addEventListener("click", showLog);
  byId("logDelete").addEventListener("click", () => {
    if (window.confirm("Kas tahad tõesti logi kustutada?")) {
      call("DELETE", "/api/log").then(showLog, report);
    }
  });
  try {
    csrf = (await call("GET", "/api/session")).csrf;
    render(await call("GET", "/api/state"));
  } catch (error) {
    return;
  }
  connectEvents(1000);
  showLog();
}

start();
