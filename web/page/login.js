"use strict";
// Signs in without leaving the page, so a wrong password is said beside the field.
document.getElementById("login").addEventListener("submit", async (event) => {
  event.preventDefault();
  const error = document.getElementById("loginError");
  const button = event.target.querySelector("button");
  button.disabled = true;
  error.textContent = "";
  try {
    const body = new URLSearchParams({password: document.getElementById("password").value});
    const reply = await fetch("/login", {method: "POST", body, credentials: "same-origin"});
    if (reply.ok) {
      window.location.assign("/");
      return;
    }
    error.textContent = reply.status === 429 ? "Liiga palju valesid paroole: oota minut."
                                             : "Vale parool.";
  } catch (e) {
    error.textContent = "Kestrumiga ei saa ühendust.";
  }
  button.disabled = false;
});
